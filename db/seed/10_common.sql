-- Code tables every library starts with, and the messages of the common
-- circulation services (desk rights, rules, bill numbers).

insert into msg_mst (msg_id, msg_content) values
    ('ELT111', '本馆藏地的书刊只能在以下地点借出：%S'),
    ('ELT131', '本馆藏地的书刊只能在以下地点归还：%S'),
    ('ELT161', '没有适用于该读者和该书的流通规则，不能委托！'),
    ('ELT179', '票据号已存在，请重新输入！')
on conflict do nothing;

-- Languages (upper case codes).
insert into language_code (lang_code, lang_name, code_use_flag) values
    ('CHI', '中文', '1'),
    ('ENG', '英文', '1'),
    ('JPN', '日文', '1'),
    ('RUS', '俄文', '1'),
    ('GER', '德文', '1'),
    ('FRE', '法文', '1'),
    ('LAT', '拉丁文', '0')
on conflict do nothing;

insert into country_code (country_code, country_name, code_use_flag) values
    ('CN', '中国', '1'),
    ('US', '美国', '1'),
    ('GB', '英国', '1'),
    ('JP', '日本', '1'),
    ('DE', '德国', '1'),
    ('SU', '苏联', '0')
on conflict do nothing;

insert into doc_type_code (doc_type_code, doc_type_name, doc_type_prop, code_use_flag) values
    ('01', '中文图书', 'M', '1'),
    ('02', '西文图书', 'M', '1'),
    ('03', '中文期刊', 'S', '1'),
    ('04', '西文期刊', 'S', '1'),
    ('05', '学位论文', 'M', '1'),
    ('09', '缩微资料', 'M', '0')
on conflict do nothing;

insert into carrier_code (carrier_code, carrier_name, code_use_flag) values
    ('01', '印刷本', '1'),
    ('02', '光盘', '1'),
    ('03', '磁带', '1'),
    ('09', '缩微胶片', '0')
on conflict do nothing;

insert into get_mode_code (get_mode_code, get_mode_name, code_use_flag) values
    ('1', '购买', '1'),
    ('2', '赠送', '1'),
    ('3', '交换', '1'),
    ('4', '呈缴', '1'),
    ('9', '调拨', '0')
on conflict do nothing;

-- Lending grades: a reader may borrow titles whose grade is not above the reader's.
insert into lend_grd (lend_grd, remark, code_use_flag) values
    ('1', '一级', '1'),
    ('2', '二级', '1'),
    ('3', '三级', '1'),
    ('9', '特藏', '0')
on conflict do nothing;

insert into violate_code (volt_code, volt_name, code_use_flag) values
    ('01', '超期', '1'),
    ('02', '污损', '1'),
    ('03', '丢失', '1'),
    ('04', '预约到书过期未取', '1'),
    ('05', '委托到书过期未取', '1'),
    ('09', '其他', '0')
on conflict do nothing;

insert into limit_type (limit_type_code, limit_type_name, limit_use_flag) values
    ('1', '按读者类型', '1'),
    ('2', '按流通类型', '1'),
    ('3', '按馆藏地', '0')
on conflict do nothing;

insert into stat_type_code (stat_type_name, stat_type_code) values
    ('按分类统计', '1'),
    ('按读者类型统计', '2'),
    ('按馆藏地统计', '3')
on conflict do nothing;

-- Classification: the main classes.
insert into classifica_code (cls_id, cls_name, marc_field, code_use_flag) values
    ('A', '马克思主义、列宁主义、毛泽东思想、邓小平理论', '690a', '1'),
    ('B', '哲学、宗教', '690a', '1'),
    ('C', '社会科学总论', '690a', '1'),
    ('D', '政治、法律', '690a', '1'),
    ('E', '军事', '690a', '1'),
    ('F', '经济', '690a', '1'),
    ('G', '文化、科学、教育、体育', '690a', '1'),
    ('H', '语言、文字', '690a', '1'),
    ('I', '文学', '690a', '1'),
    ('J', '艺术', '690a', '1'),
    ('K', '历史、地理', '690a', '1'),
    ('N', '自然科学总论', '690a', '1'),
    ('O', '数理科学和化学', '690a', '1'),
    ('P', '天文学、地球科学', '690a', '1'),
    ('Q', '生物科学', '690a', '1'),
    ('R', '医药、卫生', '690a', '1'),
    ('S', '农业科学', '690a', '1'),
    ('T', '工业技术', '690a', '1'),
    ('U', '交通运输', '690a', '1'),
    ('V', '航空、航天', '690a', '1'),
    ('X', '环境科学、安全科学', '690a', '1'),
    ('Z', '综合性图书', '690a', '1')
on conflict do nothing;
